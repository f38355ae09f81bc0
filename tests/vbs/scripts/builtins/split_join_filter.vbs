' Split, Join, Filter and Array: zero-based arrays of texts.
Dim parts, i, empty_, kept
parts = Split("pezzo;vite;;dado", ";")
out.Print UBound(parts)
For i = 0 To UBound(parts)
    out.Print i & "=" & parts(i)
Next
out.Print Join(parts, "+")
out.Print Join(Split("a b c"))
parts = Split("a-b-c-d", "-", 2)
out.Print UBound(parts) & " " & parts(1)
parts = Split("aXbxc", "x", -1, vbTextCompare)
out.Print Join(parts, ",")
empty_ = Split("")
out.Print UBound(empty_)
out.Print IsArray(empty_)
kept = Filter(Array("Lunedì", "martedì", "Sabato"), "ed")
out.Print Join(kept, ",")
kept = Filter(Array("Lunedì", "martedì", "Sabato"), "ed", False)
out.Print Join(kept, ",")
kept = Filter(Array("Lunedì", "martedì", "Sabato"), "S", True, vbTextCompare)
out.Print Join(kept, ",")
out.Print Join(Array(1, 2.5, True), "|")
out.Print TypeName(Array())
out.Print UBound(Array())
' EXPECT:
' 3
' 0=pezzo
' 1=vite
' 2=
' 3=dado
' pezzo+vite++dado
' a b c
' 1 b-c-d
' a,b,c
' -1
' True
' Lunedì,martedì
' Sabato
' Sabato
' 1|2,5|True
' Variant()
' -1
