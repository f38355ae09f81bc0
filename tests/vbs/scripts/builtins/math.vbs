' Int, Fix, Round (halves to even, with decimals) and Abs keep the argument's subtype; Sgn is an
' Integer; Sqr, Exp, Log and the circular functions; RGB clamps each part to 255; then the refusals.
Dim d, top, x, got
d = DateSerial(2024, 5, 6) + TimeSerial(18, 0, 0)
out.Print Int(1.99) & " " & Int(-1.99) & " " & Fix(-1.99) & " " & Int(CCur(-0.99)) & " " & Fix(CCur(-0.99)) & " " & Int("2,5") & " " & Int(CSng(-2.5)) & " " & Int(d) & " " & Fix(out.Field(-2.5))
out.Print TypeName(Int(1.5)) & " " & TypeName(Int(CCur(2.7))) & " " & TypeName(Int(CSng(1))) & " " & TypeName(Int(3)) & " " & TypeName(Int(d)) & " " & TypeName(Int(Empty)) & " " & Int(Empty) & " " & TypeName(Int(True)) & " " & Int(True) & " " & TypeName(Int(Null))
out.Print Round(2.5) & " " & Round(3.5) & " " & Round(-2.5) & " " & Round(-3.5) & " " & Round(0.5) & " " & Round(3.3) & " " & Round(12.5, 0) & " " & Round(CSng(2.5)) & " " & Round(CCur(-2.5), 0)
out.Print Round(1.2345, 2) & " " & Round(2.345, 2) & " " & Round("7,5") & " " & Round(0.125, 2) & " " & Round(0.375, 2) & " " & Round(1.005, 2) & " " & Round(1E300, 20) & " " & Round(CCur(2.345), 2) & " " & Round(CCur(2.355), 2)
out.Print TypeName(Round(3)) & " " & TypeName(Round(3.3)) & " " & TypeName(Round("2")) & " " & TypeName(Round(True)) & " " & Round(True) & " " & TypeName(Round(CSng(2.5))) & " " & TypeName(Round(CCur(2.345), 2)) & " " & TypeName(Round(Null, 2))
out.Print Abs(-3) & " " & Abs(-2.5) & " " & Abs(-32769) & " " & Abs(-32768) & " " & Abs(CLng(-2147483647) - 1) & " " & Abs(CSng(-0.5)) & " " & Abs(CCur(-1)) & " " & Abs("-1") & " " & Abs(True) & " " & Abs(CByte(1)) & " " & Abs(Empty)
out.Print TypeName(Abs(-32768)) & " " & TypeName(Abs(CLng(-2147483647) - 1)) & " " & TypeName(Abs(CSng(-0.5))) & " " & TypeName(Abs(CCur(-1))) & " " & TypeName(Abs("-1")) & " " & TypeName(Abs(True)) & " " & TypeName(Abs(CByte(1))) & " " & TypeName(Abs(Null))
out.Print Sgn(-7) & " " & Sgn(0) & " " & Sgn(0.5) & " " & Sgn(-32769) & " " & Sgn(CCur(-1)) & " " & Sgn("-1") & " " & Sgn(True) & " " & Sgn(Empty) & " " & TypeName(Sgn(-32769))
out.Print Sqr(36100) & " " & Sqr(Empty) & " " & Sqr(CCur(0.0625)) & " " & Exp(0) & " " & Log(1) & " " & Sin(0) & " " & Cos(Empty) & " " & Tan(0) & " " & Atn(0) & " " & TypeName(Sqr(16))
out.Print Round(Atn(1) * 4, 12) & " " & Round(Exp(True), 12) & " " & Round(Log("10"), 12) & " " & Round(Sin(CSng(0.5)), 6)
out.Print RGB(255, 0, 0) & " " & RGB(0, 0, 255) & " " & RGB(300, 128, 0) & " " & RGB(0, &H1F, &HF1) & " " & RGB(1, &H100, &H111) & " " & (RGB(255, 255, 255) = vbWhite) & " " & TypeName(RGB(0, 0, 0))
Sub Check()  ' notes the error number of the statement before (0: none) and clears it
    got = got & " " & Err.Number
    Err.Clear
End Sub
top = CCur(922337203685477) + CCur("0,5807")
On Error Resume Next
x = Round(2.5, -1): Check
x = Round(2.5, Null): Check
x = Int("abc"): Check
x = Int(-top - CCur("0,0001")): Check
x = Round(top): Check
x = Fix(-top - CCur("0,0001")): Check
out.Print "Int Fix Round:" & got: got = ""
x = Sgn(Null): Check
x = Sgn("x"): Check
x = Abs("strings"): Check
x = Sqr(-2): Check
x = Sqr(True): Check
x = Sqr(Null): Check
x = Log(0): Check
x = Log(True): Check
x = Exp(1000): Check
x = RGB(-1, 0, 0): Check
x = RGB(0, Null, 0): Check
out.Print "Sgn Abs Sqr Log Exp RGB:" & got
' EXPECT:
' 1 -2 -1 -1 0 2 -3 06/05/2024 -2
' Double Currency Single Integer Date Integer 0 Integer -1 Null
' 2 4 -2 -4 0 3 12 2 -2
' 1,23 2,35 8 0,12 0,38 1 1E+300 2,34 2,36
' Integer Double Double Boolean True Single Currency Null
' 3 2,5 32769 32768 2147483648 0,5 1 1 1 1 0
' Long Double Single Currency Double Integer Byte Null
' -1 0 1 -1 -1 -1 -1 0 Integer
' 190 0 0,25 1 0 0 1 0 0 Double
' 3,14159265359 0,367879441171 2,302585092994 0,479426
' 255 16711680 33023 15802112 16776961 True Long
' Int Fix Round: 5 94 13 6 6 0
' Sgn Abs Sqr Log Exp RGB: 94 13 13 5 5 94 5 5 6 5 94
