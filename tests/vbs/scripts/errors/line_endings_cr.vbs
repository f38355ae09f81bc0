x = 1y = 2
z = 3
w = 1 / 0
' EXPECT:
' !ERROR 11 LINE 4
