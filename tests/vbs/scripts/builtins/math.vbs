' Int, Fix, Round (halves to even, with decimals), Abs, Sgn, Sqr and the other functions.
out.Print Int(2.7) & " " & Int(-2.7) & " " & Fix(-2.7)
out.Print TypeName(Int(2.7)) & " " & TypeName(Int(CCur(2.7))) & " " & TypeName(Int(3))
out.Print Round(2.5) & " " & Round(3.5) & " " & Round(-2.5) & " " & Round(0.5)
out.Print Round(2.345, 2) & " " & Round(1.005, 2) & " " & Round(12.5, 0)
out.Print Round(CCur(2.345), 2) & " " & TypeName(Round(CCur(2.345), 2))
out.Print TypeName(Round(7)) & " " & TypeName(Round("7,5")) & " " & Round("7,5")
out.Print Abs(-3) & " " & Abs(-2.5) & " " & Abs(Null)
out.Print Sgn(-7) & " " & Sgn(0) & " " & Sgn(0.1)
out.Print Sqr(16) & " " & Exp(0) & " " & Log(1)
out.Print Round(Atn(1) * 4, 6)
out.Print Round(Sin(0), 6) & " " & Round(Cos(0), 6) & " " & Round(Tan(0), 6)
out.Print RGB(255, 0, 0) & " " & RGB(0, 0, 255) & " " & RGB(300, 128, 0)
out.Print RGB(255, 255, 255) = vbWhite
' EXPECT:
' 2 -3 -2
' Double Currency Integer
' 2 4 -2 0
' 2,35 1 12
' 2,34 Currency
' Integer Double 8
' 3 2,5 
' -1 0 1
' 4 1 0
' 3,141593
' 0 1 0
' 255 16711680 33023
' True
