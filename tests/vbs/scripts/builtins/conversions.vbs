' The C... conversions: the subtype chosen, halves to even, Italian text read and written, a field's
' value taken; then the refusals: Null (94), text that is no number or date (13), out of range (6).
Dim cur, x, got
cur = CCur(2.5)
out.Print TypeName(CStr(12.5)) & " " & CStr(12.5) & " " & CStr(True) & " [" & CStr(Empty) & "] " & CStr(out.Field(3))
out.Print TypeName(CInt("12")) & " " & CInt(2.5) & " " & CInt(3.5) & " " & CInt(-2.5) & " " & CInt(-36.5) & " " & CInt(36.75) & " " & CInt("-1") & " " & CInt("2,5") & " " & CInt(Empty) & " " & CInt(True) & " " & CInt(-32768.5)
out.Print TypeName(CLng(1.5)) & " " & CLng(0.5) & " " & CLng(1.5) & " " & CLng(cur) & " " & CLng("1.234")
out.Print TypeName(CSng(0.5)) & " " & CSng("0,5") & " " & CSng(32768)
out.Print TypeName(CDbl("1.234,5")) & " " & CDbl("1.234,5") & " " & CDbl(True) & " " & CDbl(out.Field(0.1))
out.Print TypeName(CCur(12.34567)) & " " & CCur(12.34567) & " " & CCur(0.000149) & " " & CCur("-1") & " " & CCur(2147483647.99) & " Tot: " & CCur("1.234,5")
out.Print TypeName(CBool(5)) & " " & CBool(5) & " " & CBool(-0.56) & " " & CBool(Empty) & " " & CBool("0") & " " & CBool("1") & " " & CBool("False") & " " & CBool("TRUE") & " " & CBool("#FALSE#") & " " & CBool("#TRUE#") & " " & CBool(out.Field(1))
out.Print TypeName(CByte(255)) & " " & CByte(255.49) & " " & CByte(True) & " " & CByte(Empty)
out.Print TypeName(CDate("31/12/2024")) & " " & CDate("31/12/2024") & " | " & CDate("31/12/2024 08:30") & " | " & CDate(45000)
out.Print CDate(1) & " " & CDate("1") & " " & CDate(-1) & " " & CDate(Empty)
Sub Check()  ' notes the error number of the statement before (0: none) and clears it
    got = got & " " & Err.Number
    Err.Clear
End Sub
On Error Resume Next
x = CStr(Null): Check
x = CInt(Null): Check
x = CLng(Null): Check
x = CDbl(Null): Check
x = CBool(Null): Check
x = CDate(Null): Check
out.Print "Null:" & got: got = ""
x = CInt(""): Check
x = CInt("TRUE"): Check
x = CLng("abc"): Check
x = CBool(""): Check
x = CBool("sì"): Check
x = CDate(""): Check
x = CDate("32/01/2024"): Check
x = CDate("32/13/2024"): Check
x = CStr(Array(1)): Check
x = CLng(out.Field(1, False)): Check
out.Print "Type:" & got: got = ""
x = CInt(32767.5): Check
x = CInt(-32768.51): Check
x = CInt(40000): Check
x = CLng(3E9): Check
x = CByte(-1): Check
x = CByte("258"): Check
x = CDate("1E300"): Check
x = CDate(1E300): Check
out.Print "Range:" & got
' EXPECT:
' String 12,5 True [] 3
' Integer 2 4 -2 -36 37 -1 2 0 -1 -32768
' Long 0 2 2 1234
' Single 0,5 32768
' Double 1234,5 -1 0,1
' Currency 12,3457 0,0001 -1 2147483647,99 Tot: 1234,5
' Boolean True True False False True False True False True True
' Byte 255 255 0
' Date 31/12/2024 | 31/12/2024 08:30:00 | 15/03/2023
' 31/12/1899 31/12/1899 29/12/1899 00:00:00
' Null: 94 94 94 94 94 94
' Type: 13 13 13 13 13 13 13 13 13 438
' Range: 6 6 6 6 6 6 6 6
