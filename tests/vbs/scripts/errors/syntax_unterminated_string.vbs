x = 1
y = "open
' EXPECT:
' !ERROR 1033 LINE 2
