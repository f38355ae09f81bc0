' InStr and InStrRev: binary comparison by default, vbTextCompare on request, the start argument.
Dim s
s = "Codice: AB-12-ab"
out.Print InStr(s, "ab")
out.Print InStr(s, "AB")
out.Print InStr(1, s, "ab", vbTextCompare)
out.Print InStr(10, s, "ab", vbTextCompare)
out.Print InStr(5, s, "-")
out.Print InStr(s, "zz")
out.Print InStr(4, "abcdef", "")
out.Print InStr(s, Null)
out.Print TypeName(InStr(s, "C"))
out.Print InStrRev(s, "-")
out.Print InStrRev(s, "-", 11)
out.Print InStrRev(s, "AB", -1, vbTextCompare)
out.Print InStrRev(s, "AB", -1, vbBinaryCompare)
out.Print InStrRev(1234, 34)
' EXPECT:
' 15
' 9
' 9
' 15
' 11
' 0
' 4
' <Null>
' Long
' 14
' 11
' 15
' 9
' 3
