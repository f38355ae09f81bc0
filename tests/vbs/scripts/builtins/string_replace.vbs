' Replace with start, count and compare: the result begins at start, as VBScript returns it.
Dim s, x, got
s = "xx testxx(xx)"
out.Print Replace(s, "xx", "!")
out.Print Replace(s, "xx", "!", 2)
out.Print Replace(s, "xx", "!", 1, 2)
out.Print Replace(s, "xx", "!", 1, 0)
out.Print Replace("Aa testAAa(aa)", "aa", "!", 1, -1, vbTextCompare)
out.Print Replace("Aa testAAa(aa)", "aa", "!", 1, 2, vbTextCompare)
out.Print Replace("Aa testAAa(aa)", "aa", "!", 1, -1, vbBinaryCompare)
out.Print Replace("aa testAa(aa)", "aa", "!", 2, 2, vbBinaryCompare)
out.Print Replace("1.234,50", ".", "") & " " & Replace("1.234,5", ".", "", , , ) & " " & Replace(123, 2, 6)
out.Print "[" & Replace("abc", "b", "x", 10) & "] [" & Replace(s, "xx", "!", 2000) & "] [" & Replace("", "x", "y") & "]"
out.Print Replace("xxx", "", "y") & " " & Replace("xxx", "", "y", 2) & " " & Replace("yxxy", "x", "") & " " & Replace("xxxxx", "xx", "y")
Sub Check()  ' notes the error number of the statement before (0: none) and clears it
    got = got & " " & Err.Number
    Err.Clear
End Sub
On Error Resume Next
x = Replace("xx", "x", "y", -1): Check
x = Replace("xx", "x", "y", 0): Check
x = Replace("xx", "x", "y", 1, -2): Check
x = Replace("xx", "x", "y", 1, 1, 8): Check
x = Replace(Null, "x", "y"): Check
x = Replace("xx", Null, "y"): Check
x = Replace("xx", "x", Null): Check
out.Print "Replace:" & got
' EXPECT:
' ! test!(!)
' x test!(!)
' ! test!(xx)
' xx testxx(xx)
' ! test!a(!)
' ! test!a(aa)
' Aa testAAa(!)
' a testAa(!)
' 1234,50 1234,5 163
' [] [] []
' xxx xx yy yyx
' Replace: 5 5 5 5 94 94 94
