On Error Resume Next
x = 1 / 0
out.Print Err.Number & " " & Err.Description
out.Print Err.Source
Err.Clear
out.Print Err.Number & " [" & Err.Description & "]"
y = "abc" * 2
out.Print Err.Number
On Error GoTo 0
out.Print Err.Number
Sub Fails()
    out.Print "before"
    z = CLng("no")
    out.Print "not reached: the error leaves the Sub"
End Sub
On Error Resume Next
Fails
out.Print "caller goes on: " & Err.Number
Err.Raise vbObjectError + 513, "MioScript", "errore mio"
out.Print Err.Number - vbObjectError & " " & Err.Source & " " & Err.Description
Err.Raise 9
out.Print Err.Number & " " & Err.Description
n = Err
out.Print n
Err.Number = 0
out.Print Err.Number
' EXPECT:
' 11 Divisione per zero
' Errore di run-time dello script
' 0 []
' 13
' 0
' before
' caller goes on: 13
' 513 MioScript errore mio
' 9 Indice non incluso nell'intervallo
' 9
' 0
