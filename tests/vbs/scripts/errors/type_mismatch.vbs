x = "abc" * 2
' EXPECT:
' !ERROR 13 LINE 1
