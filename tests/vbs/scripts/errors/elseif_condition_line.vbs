x = "testo"
If x = "altro" Then
    out.Print "no"
ElseIf x * 2 > 1 Then
    out.Print "no"
End If
' EXPECT:
' !ERROR 13 LINE 4
