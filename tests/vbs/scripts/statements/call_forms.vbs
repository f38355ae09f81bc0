Sub Show(a, b)
    out.Print a & "+" & b
End Sub
Function Pair(a, b)
    Pair = a & "|" & b
End Function
Show 1, 2
Show (1) + 1, 3
Call Show(4, 5)
x = Pair(6, 7)
out.Print x
out.Print Pair("a", Pair("b", "c"))
out.Print
out.Print "after empty print"
' EXPECT:
' 1+2
' 2+3
' 4+5
' 6|7
' a|b|c
' 
' after empty print
