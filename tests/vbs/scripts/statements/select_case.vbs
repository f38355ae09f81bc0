Function Band(n)
    Select Case n
        Case 1, 2, 3
            Band = "low"
        Case 4 To 6
            Band = "mid"
        Case Is >= 100
            Band = "huge"
        Case Else
            Band = "other"
    End Select
End Function
out.Print Band(2) & " " & Band(5) & " " & Band(150) & " " & Band(50)
Select Case "b"
    Case "a": out.Print "a"
    Case "b": out.Print "b matched"
    Case "b": out.Print "only the first match runs"
End Select
Select Case Null
    Case Null: out.Print "Null never matches"
    Case Else: out.Print "else for Null"
End Select
Select Case 7
    Case 1
        out.Print "no else and no match: nothing"
End Select
' EXPECT:
' low mid huge other
' b matched
' else for Null
