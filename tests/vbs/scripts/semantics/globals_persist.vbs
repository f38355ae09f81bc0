Dim counter, text
counter = 10
Sub Increment()
    counter = counter + 1
    text = text & "+"
End Sub
Sub Show()
    out.Print counter & " " & text
End Sub
Increment
Show
' EXPECT:
' 11 +
' 13 +++
' !RUN Increment
' !RUN Increment
' !RUN Show
