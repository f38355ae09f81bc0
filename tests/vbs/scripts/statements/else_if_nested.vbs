Function Grade(n)
    If n >= 8 Then
        Grade = "A"
    Else If n >= 5 Then
            Grade = "B"
        Else
            Grade = "C"
        End If
    End If
End Function
out.Print Grade(9) & Grade(6) & Grade(1)
' EXPECT:
' ABC
