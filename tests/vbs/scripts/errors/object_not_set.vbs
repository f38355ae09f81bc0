Dim o
Set o = Nothing
o.Print "no"
' EXPECT:
' !ERROR 91 LINE 3
