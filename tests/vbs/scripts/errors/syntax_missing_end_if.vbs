out.Print "nothing runs"
If True Then
    x = 1
' EXPECT:
' !ERROR 1014 LINE 5
