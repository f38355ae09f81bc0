' Chr and Asc on the western code page, ChrW and AscW on UTF-16 units (AscW an Integer), Hex and
' Oct in 16 bits for Integer and Boolean, 32 for the rest rounded half to even; then the refusals.
Dim i, ok, x, got
out.Print Chr(65) & Chr(232) & Chr(128) & Chr(120.5) & Chr(119.5) & Chr("120") & " " & Len(Chr(0)) & " " & Asc(Chr(0))
out.Print Asc("A") & " " & Asc("test") & " " & Asc(3) & " " & Asc("è") & " " & Asc("€") & " " & Asc("Ω") & " " & TypeName(Asc("A"))
out.Print AscW("€") & " " & ChrW(8364) & " " & AscW(ChrW(65535)) & " " & AscW(ChrW(-1)) & " " & TypeName(AscW("€"))
ok = True
For i = 0 To 255
    If Asc(Chr(i)) <> i Then ok = False
Next
out.Print ok
out.Print Hex(0) & " " & Hex(16) & " " & Hex(-1) & " " & Hex(-16) & " " & Hex(-32767) & " " & Hex(CLng(-1)) & " " & Hex(-32768) & " " & Hex(-934859845)
out.Print Hex(&H7FFF) & " " & Hex(228.5) & " " & Hex("17") & " " & Hex(Empty) & " " & Hex(True) & " " & Hex(CByte(255)) & " " & Hex(out.Field(30.5)) & " " & TypeName(Hex(Null))
out.Print Hex(2147483647.49) & " " & Hex(-2147483647.5)
out.Print Oct(8) & " " & Oct(9) & " " & Oct(8.5) & " " & Oct(9.5) & " " & Oct(-1) & " " & Oct(CLng(-32768)) & " " & Oct(-2147483648.5) & " " & TypeName(Oct(Null))
Sub Check()  ' notes the error number of the statement before (0: none) and clears it
    got = got & " " & Err.Number
    Err.Clear
End Sub
On Error Resume Next
x = Chr(-1): Check
x = Chr(256): Check
x = Chr(Null): Check
x = ChrW(65536): Check
x = ChrW(-32769): Check
x = Asc(""): Check
x = Asc(Empty): Check
x = Asc(Null): Check
x = AscW(""): Check
out.Print "Chr ChrW Asc AscW:" & got: got = ""
x = Hex(2147483647.5): Check
x = Hex("test"): Check
x = Oct(-2147483648.51): Check
out.Print "Hex Oct:" & got
' EXPECT:
' Aè€xxx 1 0
' 65 116 51 232 128 63 Integer
' 8364 € -1 -1 Integer
' True
' 0 10 FFFF FFF0 8001 FFFFFFFF FFFF8000 C8472BBB
' 7FFF E4 11 0 FFFF FF 1E Null
' 7FFFFFFF 80000000
' 10 11 10 12 177777 37777700000 20000000000 Null
' Chr ChrW Asc AscW: 5 5 94 5 5 5 5 94 5
' Hex Oct: 6 13 6
