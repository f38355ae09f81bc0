x = 5
x.Print "no"
' EXPECT:
' !ERROR 424 LINE 2
