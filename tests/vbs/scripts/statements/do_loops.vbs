i = 0
Do While i < 3
    i = i + 1
Loop
out.Print i
Do Until i = 0
    i = i - 1
Loop
out.Print i
Do
    i = i + 1
Loop While i < 5
out.Print i
Do
    i = i + 10
Loop Until True
out.Print i
Do
    i = i + 1
    If i > 20 Then Exit Do
Loop
out.Print i
n = 0
While n < 4
    n = n + 2
Wend
out.Print n
' EXPECT:
' 3
' 0
' 5
' 15
' 21
' 4
