' The C... conversions: subtype chosen, halves to even, Italian text read and written.
out.Print TypeName(CInt("12")) & " " & CInt("12")
out.Print CInt(2.5) & " " & CInt(3.5) & " " & CInt(-2.5)
out.Print TypeName(CLng(1.5)) & " " & CLng(1.5)
out.Print CLng("1.234")
out.Print TypeName(CDbl("1.234,5")) & " " & CDbl("1.234,5")
out.Print TypeName(CSng(0.5)) & " " & CSng(0.5)
out.Print TypeName(CCur(12.34567)) & " " & CCur(12.34567)
out.Print TypeName(CBool(5)) & " " & CBool(5)
out.Print CBool("False") & " " & CBool(0) & " " & CBool("1")
out.Print TypeName(CByte(255)) & " " & CByte(True)
out.Print TypeName(CStr(12.5)) & " " & CStr(12.5)
out.Print CStr(True)
out.Print TypeName(CDate("31/12/2024")) & " " & CDate("31/12/2024")
out.Print CDate("31/12/2024 08:30")
out.Print CDate(45000)
out.Print "Tot: " & CCur("1.234,5")
' EXPECT:
' Integer 12
' 2 4 -2
' Long 2
' 1234
' Double 1234,5
' Single 0,5
' Currency 12,3457
' Boolean True
' False False True
' Byte 255
' String 12,5
' True
' Date 31/12/2024
' 31/12/2024 08:30:00
' 15/03/2023
' Tot: 1234,5
