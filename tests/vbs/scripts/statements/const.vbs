Function Area(r)
    Const Half = 0.5
    Area = PI_ROUGH * r * r * Half * 2
End Function
Const PI_ROUGH = 3, GREETING = "Ciao", NEG = -4
Const BOTH = "a" & "b"
out.Print Area(2)
out.Print GREETING & " " & NEG
out.Print BOTH
out.Print vbCrLf = Chr(13) & Chr(10)
' EXPECT:
' 12
' Ciao -4
' ab
' True
