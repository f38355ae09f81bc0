' a whole-line comment
Rem another one
Function Twice(x) ' after the head
    Twice = x * 2 ' after code
End Function' glued to End Function
Sub Show(v) : out.Print v : End Sub   Rem after a one-line Sub
Show Twice(21) ' "quotes" and 'apostrophes' inside a comment
out.Print "it's not a comment ' here"
x = 1 : Rem a comment after a colon
out.Print x
' EXPECT:
' 42
' it's not a comment ' here
' 1
