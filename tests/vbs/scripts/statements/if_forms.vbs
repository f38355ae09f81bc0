Function Kind(n)
    If n < 0 Then
        Kind = "neg"
    ElseIf n = 0 Then
        Kind = "zero"
    ElseIf n < 10 Then
        Kind = "small"
    Else
        Kind = "big"
    End If
End Function
out.Print Kind(-1) & " " & Kind(0) & " " & Kind(5) & " " & Kind(50)
If 1 = 1 Then out.Print "one line"
If 1 = 2 Then out.Print "no" Else out.Print "else part"
If True Then x = 1 : y = 2 Else x = 3 : y = 4
out.Print x & y
If False Then x = 1 : y = 2 Else x = 3 : y = 4
out.Print x & y
If True Then If False Then out.Print "inner" Else out.Print "inner else"
If "True" Then out.Print "text True counts"
If 0 Then
Else
    out.Print "zero is False"
End If
' EXPECT:
' neg zero small big
' one line
' else part
' 12
' 34
' inner else
' text True counts
' zero is False
