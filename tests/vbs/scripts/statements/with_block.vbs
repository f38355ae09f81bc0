With out
    .Print "inside With"
    .Print 1 + 1
End With
Sub Report(o)
    With o
        .Print "nested call"
    End With
End Sub
Report out
' EXPECT:
' inside With
' 2
' nested call
