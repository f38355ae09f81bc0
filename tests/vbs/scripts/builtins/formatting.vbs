' FormatNumber, FormatCurrency, FormatPercent and FormatDateTime under Italian regional settings.
Dim d
d = DateSerial(2024, 3, 5) + TimeSerial(14, 30, 15)
out.Print FormatNumber(1234.5, 2)
out.Print FormatNumber(1234.5)
out.Print FormatNumber(1234.5, 0)
out.Print FormatNumber(0.5, 2, vbFalse)
out.Print FormatNumber(-1234.5, 1, , vbTrue)
out.Print FormatNumber(1234567.891, 2, , , vbFalse)
out.Print FormatNumber("12,5", 1)
out.Print FormatCurrency(1234.5)
out.Print FormatPercent(0.125)
out.Print FormatPercent(0.5, 0)
out.Print FormatDateTime(d)
out.Print FormatDateTime(d, vbLongDate)
out.Print FormatDateTime(d, vbShortDate)
out.Print FormatDateTime(d, vbLongTime)
out.Print FormatDateTime(d, vbShortTime)
out.Print "Tot: " & 12.5 & " - " & FormatNumber(12.5, 2)
' EXPECT:
' 1.234,50
' 1.234,50
' 1.235
' ,50
' (1.234,5)
' 1234567,89
' 12,5
' 1.234,50 €
' 12,50%
' 50%
' 05/03/2024 14:30:15
' martedì 5 marzo 2024
' 05/03/2024
' 14:30:15
' 14:30
' Tot: 12,5 - 12,50
