' Case (letter by letter), trims (spaces only), padding, repetition, reversal and StrComp (binary
' unless asked for text); Null goes through case, trims and StrComp; then the refusals.
Dim n, x, got
n = Null
out.Print UCase("perché àbc") & " " & LCase("PERCHÉ ÀBC") & " " & UCase("straße") & " " & UCase(1.5) & " [" & UCase(Empty) & "]"
out.Print TypeName(UCase(n)) & " " & TypeName(LCase(n)) & " " & TypeName(Trim(n))
out.Print "[" & Trim("  a b  ") & "] [" & LTrim("  a b  ") & "] [" & RTrim("  a b  ") & "] " & Len(Trim(vbTab & "a" & vbTab)) & " " & Trim(123)
out.Print "[" & Space(3) & "] [" & Space(5.5) & "] [" & Space(4.5) & "] [" & Space(False) & "]"
out.Print String(4, "*-") & " " & String("3", 65) & " " & String(2, 128 + 256) & " [" & String(0, "z") & "] " & TypeName(String(3, n))
out.Print StrReverse("Lavrix") & " " & StrReverse(123) & " [" & StrReverse("") & "]"
out.Print StrComp("ABC", "abc") & " " & StrComp("abc", "ABC", 0) & " " & StrComp("ABC", "abc", vbTextCompare) & " " & StrComp("ABCD", "ABC", 1) & " " & StrComp("ABC", "ABCD", "1")
out.Print StrComp("1", 1, 1) & " " & StrComp(Empty, "") & " " & StrComp(Empty, "ABC") & " " & TypeName(StrComp(n, "a")) & " " & TypeName(StrComp("a", "b"))
Sub Check()  ' notes the error number of the statement before (0: none) and clears it
    got = got & " " & Err.Number
    Err.Clear
End Sub
On Error Resume Next
x = Space(-1): Check
x = Space("-1"): Check
x = Space(n): Check
x = String(-2, "x"): Check
x = String(3, ""): Check
x = String(0, ""): Check
x = String(n, "x"): Check
x = StrReverse(n): Check
x = StrComp("a", "b", 3): Check
x = StrComp("a", "b", n): Check
out.Print "Space String StrReverse StrComp:" & got
' EXPECT:
' PERCHÉ ÀBC perché àbc STRAßE 1,5 []
' Null Null Null
' [a b] [a b  ] [  a b] 3 123
' [   ] [      ] [    ] []
' **** AAA €€ [] Null
' xirvaL 321 []
' -1 1 0 1 -1
' 0 0 -1 Null Integer
' Space String StrReverse StrComp: 5 5 94 5 5 5 94 94 5 94
