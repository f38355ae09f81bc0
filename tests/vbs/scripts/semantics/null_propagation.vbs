n = Null
out.Print IsNull(n + 1) & " " & IsNull(n * 2) & " " & IsNull(-n)
out.Print IsNull(n = n) & " " & IsNull(n <> 1) & " " & IsNull(n < 1)
If n Then
    out.Print "never"
Else
    out.Print "If Null takes Else"
End If
If n = 1 Then out.Print "never" Else out.Print "Null comparison is not True"
out.Print n & "x"
out.Print IsNull(n & n)
out.Print n And False
out.Print n Or True
out.Print IsNull(n And True) & " " & IsNull(Not n)
out.Print IsNull(Len(n))
' EXPECT:
' True True True
' True True True
' If Null takes Else
' Null comparison is not True
' x
' True
' False
' True
' True True
' True
