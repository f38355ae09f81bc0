Sub Guarded()
    On Error Resume Next
    x = 1 / 0
    out.Print "guarded goes on " & Err.Number
End Sub
Guarded
out.Print "top level is not guarded"
y = 1 / 0
out.Print "never"
' EXPECT:
' guarded goes on 11
' top level is not guarded
' !ERROR 11 LINE 8
