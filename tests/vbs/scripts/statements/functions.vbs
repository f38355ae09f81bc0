Function Add(a, b)
    Add = a + b
End Function
Function Nothing_Assigned(a)
    Dim unused
    unused = a
End Function
Function Early(n)
    Early = "small"
    If n < 10 Then Exit Function
    Early = "large"
End Function
Sub Greet(name)
    out.Print "Ciao " & name
    Exit Sub
    out.Print "never"
End Sub
out.Print Add(2, 3)
out.Print TypeName(Nothing_Assigned(1))
out.Print Early(3)
out.Print Early(30)
Greet "Anna"
Call Greet("Bruno")
' EXPECT:
' 5
' Empty
' small
' large
' Ciao Anna
' Ciao Bruno
