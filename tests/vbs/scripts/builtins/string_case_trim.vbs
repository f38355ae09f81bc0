' Case, trims (spaces only), padding, reversal and StrComp; Null goes through case and trims.
Dim n
n = Null
out.Print UCase("perché àbc")
out.Print LCase("PERCHÉ ÀBC")
out.Print UCase(1.5)
out.Print UCase(n)
out.Print "[" & Trim("  a b  ") & "]"
out.Print "[" & LTrim("  a b  ") & "]"
out.Print "[" & RTrim("  a b  ") & "]"
out.Print Len(Trim(vbTab & "a" & vbTab))
out.Print Trim(n)
out.Print "[" & Space(3) & "]"
out.Print String(4, "*-")
out.Print String(3, 65)
out.Print StrReverse("Lavrix")
out.Print StrComp("ABC", "abc")
out.Print StrComp("ABC", "abc", vbTextCompare)
out.Print StrComp("b", "a")
out.Print StrComp(n, "a")
out.Print TypeName(StrComp("a", "b"))
' EXPECT:
' PERCHÉ ÀBC
' perché àbc
' 1,5
' <Null>
' [a b]
' [a b  ]
' [  a b]
' 3
' <Null>
' [   ]
' ****
' AAA
' xirvaL
' -1
' 0
' 1
' <Null>
' Integer
