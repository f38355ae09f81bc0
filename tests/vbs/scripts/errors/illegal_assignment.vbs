Const K = 1
K = 2
' EXPECT:
' !ERROR 501 LINE 2
