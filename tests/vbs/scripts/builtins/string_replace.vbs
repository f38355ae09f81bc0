' Replace with start, count and compare: the result begins at start, as VBScript returns it.
Dim s
s = "xx testxx(xx)"
out.Print Replace(s, "xx", "!")
out.Print Replace(s, "xx", "!", 2)
out.Print Replace(s, "xx", "!", 1, 2)
out.Print Replace(s, "xx", "!", 1, 0)
out.Print Replace("Aa testAAa(aa)", "aa", "!", 1, -1, vbTextCompare)
out.Print Replace("Aa testAAa(aa)", "aa", "!", 1, -1, vbBinaryCompare)
out.Print Replace("1.234,50", ".", "")
out.Print Replace(123, 2, 6)
out.Print "[" & Replace("abc", "b", "x", 10) & "]"
out.Print "[" & Replace("abc", "", "x") & "]"
' EXPECT:
' ! test!(!)
' x test!(!)
' ! test!(xx)
' xx testxx(xx)
' ! test!a(!)
' Aa testAAa(!)
' 1234,50
' 163
' []
' [abc]
