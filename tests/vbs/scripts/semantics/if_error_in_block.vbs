On Error Resume Next
For i = 1 To 3
    If i = 2 Then
        x = 1 / 0
        out.Print "next statement inside the block runs " & Err.Number
        Err.Clear
    End If
Next
out.Print i
' EXPECT:
' next statement inside the block runs 11
' 4
