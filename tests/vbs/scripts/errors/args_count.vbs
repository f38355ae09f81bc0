Sub Two(a, b)
End Sub
Two 1
' EXPECT:
' !ERROR 450 LINE 3
