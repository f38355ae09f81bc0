' FormatNumber, FormatCurrency, FormatPercent and FormatDateTime under Italian regional settings;
' then the refusals (Null as the value is a type mismatch).
Dim d, x, got
d = DateSerial(2024, 3, 5) + TimeSerial(14, 30, 15)
out.Print FormatNumber(1234.5, 2) & " " & FormatNumber(1234.5) & " " & FormatNumber(1234.5, 0) & " " & FormatNumber(0.5, 2, vbFalse) & " " & FormatNumber(-0.5, 1, 0) & " " & FormatNumber(-1234.5, 1, , vbTrue)
out.Print FormatNumber(1234567.891, 2, , , vbFalse) & " " & FormatNumber(1234.5, 2, , , 0) & " " & FormatNumber("12,5", 1) & " " & FormatNumber("1234,5", 1) & " " & FormatNumber(Empty, 1) & " " & FormatNumber(out.Field(2.5), 0)
out.Print FormatCurrency(1234.5) & " | " & FormatPercent(0.125) & " " & FormatPercent(0.5, 0) & " " & FormatPercent(0.12345, 1)
out.Print FormatDateTime(d) & " | " & FormatDateTime(d, vbLongDate) & " | " & FormatDateTime(d, vbShortDate) & " | " & FormatDateTime(d, vbLongTime) & " | " & FormatDateTime(d, vbShortTime) & " | " & FormatDateTime("05/03/2024", 2)
out.Print "Tot: " & 12.5 & " - " & FormatNumber(12.5, 2)
Sub Check()  ' notes the error number of the statement before (0: none) and clears it
    got = got & " " & Err.Number
    Err.Clear
End Sub
On Error Resume Next
x = FormatNumber(Null): Check
x = FormatNumber(0.1, Null): Check
x = FormatNumber(0.1, 0, Null): Check
x = FormatNumber(0.1, 0, 0, 0, Null): Check
x = FormatNumber(0.1, -2): Check
x = FormatNumber("abc"): Check
out.Print "FormatNumber:" & got: got = ""
x = FormatCurrency(Null): Check
x = FormatPercent(Null): Check
x = FormatDateTime(Null): Check
x = FormatDateTime(d, Null): Check
x = FormatDateTime(d, 5): Check
out.Print "FormatCurrency FormatPercent FormatDateTime:" & got
' EXPECT:
' 1.234,50 1.234,50 1.235 ,50 -,5 (1.234,5)
' 1234567,89 1234,50 12,5 1.234,5 0,0 3
' 1.234,50 € | 12,50% 50% 12,3%
' 05/03/2024 14:30:15 | martedì 5 marzo 2024 | 05/03/2024 | 14:30:15 | 14:30 | 05/03/2024
' Tot: 12,5 - 12,50
' FormatNumber: 13 94 94 94 5 13
' FormatCurrency FormatPercent FormatDateTime: 13 13 13 94 5
