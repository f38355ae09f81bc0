Function Down(n)
    Down = Down(n + 1)
End Function
x = Down(1)
' EXPECT:
' !ERROR 28 LINE 2
