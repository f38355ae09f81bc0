' the fifth line lacks its closing parenthesis
Function F(x)
    F = x
End Function
y = (1 + 2
out.Print "nothing runs"
' EXPECT:
' !ERROR 1006 LINE 5
