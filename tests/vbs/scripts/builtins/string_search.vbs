' InStr and InStrRev: binary comparison unless vbTextCompare, a start rounded half to even (given
' only with three or more arguments), Null texts let through; then the refusals.
Dim s, x, got
s = "Codice: AB-12-ab"
out.Print InStr(s, "ab") & " " & InStr(s, "AB") & " " & InStr(1, s, "ab", vbTextCompare) & " " & InStr(10, s, "ab", vbTextCompare) & " " & InStr(5, s, "-") & " " & InStr(s, "zz")
out.Print InStr(3, "abcd", "bc") & " " & InStr(2.6, "abcd", "bc") & " " & InStr(2.3, "abcd", "bc") & " " & InStr(3, "abcdefgh", "FG", 1.4) & " " & InStr(2, "abcABC", "ab", 1) & " " & InStr(1, 23456, 45, 0)
out.Print InStr(4, "abcdef", "") & " " & InStr(20, "abcdef", "", 0) & " " & InStr(4, "", "", 0) & " " & InStr("àèìòù", "Ò", ) & " " & TypeName(InStr(s, "C"))
out.Print TypeName(InStr(s, Null)) & " " & TypeName(InStr(2, Null, "abcd", 0))
out.Print InStrRev(s, "-") & " " & InStrRev(s, "-", 11) & " " & InStrRev(s, "AB", -1, vbTextCompare) & " " & InStrRev(s, "AB", -1, vbBinaryCompare) & " " & InStrRev(1234, 34)
out.Print InStrRev("bcabcd", "bc") & " " & InStrRev("abcd", "bc", 3) & " " & InStrRev("abcd", "bc", 2) & " " & InStrRev("abcd", "b", 2) & " " & InStrRev("abcd", "bc", 5) & " " & InStrRev("abcd", "bc", 2.6)
out.Print InStrRev("abcd", "cd", 3, 1) & " " & InStrRev("abcd", "", 3, 1) & " " & InStrRev("", "", 3, 0)
Sub Check()  ' notes the error number of the statement before (0: none) and clears it
    got = got & " " & Err.Number
    Err.Clear
End Sub
On Error Resume Next
x = InStr(Null, "abcd", "abcd", 0): Check
x = InStr(2, "abcd", "abcd", Null): Check
x = InStr(-20, "abcd", "abcd", 1): Check
x = InStr(2, "abcd", "abcd", 10): Check
x = InStr("x", "abcd", "b"): Check
out.Print "InStr:" & got: got = ""
x = InStrRev("abcd", Null, 2, 0): Check
x = InStrRev(Null, "abcd", 2, 0): Check
x = InStrRev("abcd", "abcd", Null, 0): Check
x = InStrRev("abcd", "abcd", -20, 1): Check
x = InStrRev("abcd", "abcd", 0, 1): Check
x = InStrRev("abcd", "abcd", 2, 10): Check
out.Print "InStrRev:" & got
' EXPECT:
' 15 9 9 15 11 0
' 0 0 2 6 4 3
' 4 0 0 0 Long
' Null Null
' 14 11 15 9 3
' 4 2 0 2 0 2
' 0 3 0
' InStr: 94 94 5 5 13
' InStrRev: 94 94 94 5 5 5
