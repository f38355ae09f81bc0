For i = 1 To 3
    s = s & i
Next
out.Print s & " after: " & i
s = ""
For i = 10 To 1 Step -3
    s = s & i & ","
Next
out.Print s
s = ""
For i = 0 To 1 Step 0.25
    s = s & i & " "
Next
out.Print s
For i = 5 To 1
    out.Print "never"
Next
For i = 1 To 10
    If i = 4 Then Exit For
Next
out.Print i
For i = 1 To 2
    For j = 1 To 2
        out.Print i & "." & j
    Next
Next
out.Print TypeName(i)
' EXPECT:
' 123 after: 4
' 10,7,4,1,
' 0 0,25 0,5 0,75 1 
' 4
' 1.1
' 1.2
' 2.1
' 2.2
' Integer
