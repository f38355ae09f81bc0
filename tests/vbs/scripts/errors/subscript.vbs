Dim a(2)
a(1) = 1
a(3) = 1
' EXPECT:
' !ERROR 9 LINE 3
