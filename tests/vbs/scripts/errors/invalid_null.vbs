For i = Null To 3
Next
' EXPECT:
' !ERROR 94 LINE 1
