Function Inner(n)
    out.Print "inner " & n
    Inner = 10 / n
End Function
Function Outer(n)
    Outer = Inner(n) + 1
End Function
out.Print Outer(5)
out.Print Outer(0)
' EXPECT:
' inner 5
' 3
' inner 0
' !ERROR 11 LINE 3
