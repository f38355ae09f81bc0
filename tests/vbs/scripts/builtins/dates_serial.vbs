' DateSerial and TimeSerial let parts run over; DateValue and TimeValue split a date.
out.Print DateSerial(2024, 2, 30)
out.Print DateSerial(2024, 13, 1)
out.Print DateSerial(2024, 3, 0)
out.Print DateSerial(24, 1, 1)
out.Print DateSerial(95, 1, 1)
out.Print TimeSerial(8, 90, 0)
out.Print TimeSerial(25, 0, 0)
out.Print DateValue("31/12/2024 18:45")
out.Print TimeValue("31/12/2024 18:45")
out.Print DateValue(#12/31/2024 6:00:00 PM#)
out.Print TypeName(DateSerial(2024, 1, 1))
out.Print CLng(DateSerial(2024, 1, 1))
' EXPECT:
' 01/03/2024
' 01/01/2025
' 29/02/2024
' 01/01/2024
' 01/01/1995
' 09:30:00
' 31/12/1899 01:00:00
' 31/12/2024
' 18:45:00
' 31/12/2024
' Date
' 45292
