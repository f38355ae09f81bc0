' DateSerial and TimeSerial let parts run over and read two-digit years as 1930-2029; DateValue and
' TimeValue split a date; then the refusals.
Dim x, got
out.Print DateSerial(2024, 2, 30) & " " & DateSerial(2024, 13, 1) & " " & DateSerial(2000, 14, 2) & " " & DateSerial(2024, 3, 0) & " " & DateSerial(2024, 1, -1) & " " & DateSerial("2024", "5", 6.5)
out.Print DateSerial(0, 2, 1) & " " & DateSerial(24, 1, 1) & " " & DateSerial(29, 2, 1) & " " & DateSerial(50, 2, 1) & " " & DateSerial(95, 1, 1) & " " & DateSerial(100, 2, 1)
out.Print TimeSerial(10, 2, 1) & " " & TimeSerial(8, 90, 0) & " " & TimeSerial(10, 60, 2) & " " & TimeSerial(10, 0, 60) & " " & TimeSerial(12 - 6, -15, 0)
out.Print TimeSerial(25, 0, 0) & " | " & TimeSerial(24, 2, 1) & " | " & TimeSerial(50, 2, 1)
out.Print DateValue("31/12/2024 18:45") & " " & TimeValue("31/12/2024 18:45") & " " & DateValue(#12/31/2024 6:00:00 PM#) & " " & TimeValue("17:45:10") & " " & TypeName(DateValue(Null)) & " " & TypeName(TimeValue(Null))
out.Print TypeName(DateSerial(2024, 1, 1)) & " " & CLng(DateSerial(2024, 1, 1))
Sub Check()  ' notes the error number of the statement before (0: none) and clears it
    got = got & " " & Err.Number
    Err.Clear
End Sub
On Error Resume Next
x = DateSerial(10000, 1, 1): Check
x = DateSerial(-10000, 1, 1): Check
x = DateSerial(Null, 1, 1): Check
x = DateSerial(2000, Null, 1): Check
x = TimeSerial(Null, 1, 1): Check
x = TimeSerial(10, 1, Null): Check
x = DateValue("abc"): Check
x = TimeValue("25:00"): Check
out.Print got
' EXPECT:
' 01/03/2024 01/01/2025 02/02/2001 29/02/2024 30/12/2023 06/05/2024
' 01/02/2000 01/01/2024 01/02/2029 01/02/1950 01/01/1995 01/02/0100
' 10:02:01 09:30:00 11:00:02 10:01:00 05:45:00
' 31/12/1899 01:00:00 | 31/12/1899 00:02:01 | 01/01/1900 02:02:01
' 31/12/2024 18:45:00 31/12/2024 17:45:10 Null Null
' Date 45292
'  5 5 94 94 94 94 13 13
