Dim a, b
a = 1 + 2
out.Print a
out.Print "Tot: " & 12.5
' EXPECT:
' 3
' Tot: 12,5
