Option Explicit
Dim declared
declared = 1
out.Print declared
notDeclared = 2
out.Print "never"
' EXPECT:
' 1
' !ERROR 500 LINE 5
