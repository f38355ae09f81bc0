Dim counter
counter = 10
Sub Increment()
    counter = counter + 1
End Sub
Increment
Increment
out.Print counter
' EXPECT:
' 12
