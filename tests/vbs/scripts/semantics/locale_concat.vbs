out.Print "Tot: " & 12.5
out.Print 1234.5 & ""
out.Print CStr(0.1 + 0.2 = 0.3)
out.Print 1 / 4
out.Print FormatNumber(1234.5, 2)
out.Print "Data: " & #12/31/2024#
out.Print CDbl("12,5") + 1
' EXPECT:
' Tot: 12,5
' 1234,5
' False
' 0,25
' 1.234,50
' Data: 31/12/2024
' 13,5
