out.Print 1, 2
' EXPECT:
' !ERROR 450 LINE 1
