Sub Bump(n)
    n = n + 1
End Sub
Sub BumpByVal(ByVal n)
    n = n + 1
End Sub
Sub BumpByRef(ByRef n)
    n = n + 10
End Sub
Function Swap(a, b)
    Dim t
    t = a : a = b : b = t
End Function
Dim x, y
x = 1
Bump x
out.Print x
BumpByVal x
out.Print x
BumpByRef x
out.Print x
Bump (x)
out.Print x
Call Bump(x)
out.Print x
y = "due"
Swap x, y
out.Print x & " " & y
' an expression cannot be changed: the callee works on a copy
Bump y + 1
out.Print y
' array elements go by reference, unless in parentheses
Dim a(2)
a(1) = 5
Bump a(1)
Bump (a(1))
BumpByVal a(1)
out.Print a(1)
Sub Shrink(v)
    ReDim a(0)
    v = "lost"
End Sub
Shrink a(2)
out.Print UBound(a) & " [" & a(0) & "]"
' EXPECT:
' 2
' 2
' 12
' 12
' 13
' due 13
' 13
' 6
' 0 []
