i = 0
Do
    i = i + 1
Loop Until i > "abc" * 1
' EXPECT:
' !ERROR 13 LINE 4
