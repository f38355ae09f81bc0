' Split, Join, Filter and Array: zero-based arrays of texts; Split's count and comparison, Join's
' texts of the items, Filter keeping or dropping; then the refusals.
Dim parts, w, m(2, 2), i, x, got
parts = Split("pezzo;vite;;dado", ";")
out.Print UBound(parts)
For i = 0 To UBound(parts)
    out.Print i & "=" & parts(i) & " " & TypeName(parts(i))
Next
out.Print Join(parts, "+") & " " & Join(Split("a b c")) & " [" & Join(Split("abc def", "")) & "] " & Join(Split("abc--def", "-"), "|") & " " & Join(Split("abcdefghi", "def"), "|") & " " & Join(Split("12345", 5), "|")
parts = Split("a-b-c-d", "-", 2)
out.Print UBound(parts) & " " & parts(1) & " " & Join(Split("a-b-c", "-", 4), "|") & " " & Join(Split("aZbZc", "z", 3, 0), "|") & " " & Join(Split("aXbxc", "x", -1, vbTextCompare), ",")
out.Print UBound(Split("")) & " " & UBound(Split("", ",")) & " " & UBound(Split("a,b", ",", 0)) & " " & IsArray(Split("")) & " " & LBound(Split("a"))
out.Print Join(Array("a", 1.5, True, Empty)) & " " & Join(Array("a", 1.5, True, Empty), ";") & " " & Join(Array("a", 1.5, True, Empty), "") & " [" & Join(Array()) & "]"
w = Array("Lunedì", "martedì", "Sabato", "domenica")
out.Print Join(Filter(w, "ed"), ",") & " " & Join(Filter(w, "ed", False), ",") & " [" & Join(Filter(w, "s"), ",") & "] " & UBound(Filter(w, "s")) & " " & Join(Filter(w, "s", True, vbTextCompare), ",")
parts = Array("a1", 2, "a3")
out.Print TypeName(Array()) & " " & UBound(Array()) & " " & LBound(parts) & " " & UBound(parts) & " " & TypeName(parts(1)) & " " & parts(2)
Sub Check()  ' notes the error number of the statement before (0: none) and clears it
    got = got & " " & Err.Number
    Err.Clear
End Sub
On Error Resume Next
x = Split("a-b", "-", -1, 2): Check
x = Split("a-b", "-", -42, 0): Check
x = Split(Null, "-"): Check
x = Split("a-b", Null): Check
x = Split("a-b", "-", Null): Check
out.Print "Split:" & got: got = ""
x = Join("abc"): Check
x = Join(m): Check
x = Join(w, Null): Check
x = Join(Array("a", Null)): Check
out.Print "Join:" & got: got = ""
x = Filter("abc", "a"): Check
x = Filter(Null, "a"): Check
x = Filter(w, Null): Check
out.Print "Filter:" & got
' EXPECT:
' 3
' 0=pezzo String
' 1=vite String
' 2= String
' 3=dado String
' pezzo+vite++dado a b c [abc def] abc||def abc|ghi 1234|
' 1 b-c-d a|b|c aZbZc a,b,c
' -1 -1 -1 True 0
' a 1,5 True  a;1,5;True; a1,5True []
' Lunedì,martedì Sabato,domenica [] -1 Sabato
' Variant() -1 0 2 Integer a3
' Split: 5 5 94 94 94
' Join: 13 13 94 94
' Filter: 13 94 94
