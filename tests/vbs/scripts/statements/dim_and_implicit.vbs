Dim a, b, c
out.Print TypeName(a)
b = 5
undeclared = b * 2
out.Print undeclared
Function UsesGlobal()
    UsesGlobal = b + undeclared
End Function
Function LocalOnly()
    calls = calls + 1   ' an implicit local starts Empty at every call
    LocalOnly = calls
End Function
out.Print UsesGlobal()
out.Print LocalOnly() & LocalOnly()
Sub SetsGlobal()
    c = "set in a Sub"
End Sub
SetsGlobal
out.Print c
' EXPECT:
' Empty
' 10
' 15
' 11
' set in a Sub
