x = 1
NotDefined x, 2
' EXPECT:
' !ERROR 35 LINE 2
