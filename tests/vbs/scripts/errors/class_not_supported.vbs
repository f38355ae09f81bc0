x = 1
Class Thing
End Class
' EXPECT:
' !ERROR 1002 LINE 2
