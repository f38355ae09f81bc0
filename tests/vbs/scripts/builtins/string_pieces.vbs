' Len, Left, Right and Mid: pieces of texts, numbers read as their Italian text, Null let through.
Dim s, n
s = "Etichetta"
n = Null
out.Print Len(s)
out.Print TypeName(Len(s))
out.Print Len(12.5)
out.Print Len(Empty)
out.Print Len(n)
out.Print Left(s, 3)
out.Print Left(s, 20)
out.Print Left("123456", 2.5)
out.Print Right(s, 5)
out.Print Right(1234, 2)
out.Print Mid(s, 2, 3)
out.Print Mid(s, 5)
out.Print "[" & Mid(s, 20) & "]"
out.Print Left(n, 1)
out.Print Right(n, 1)
out.Print Mid(n, 1, 1)
out.Print IsNull(Left(n, 1))
' EXPECT:
' 9
' Long
' 4
' 0
' <Null>
' Eti
' Etichetta
' 12
' hetta
' 34
' tic
' hetta
' []
' <Null>
' <Null>
' <Null>
' True
