total = 1 + _
        2 + _
        3
out.Print total
out.Print "a" & _
    "b" : out.Print "c"
' EXPECT:
' 6
' ab
' c
