' DateAdd, DateDiff and DatePart with every interval (named in any case); DateDiff counts the
' boundaries crossed; weeks of the year by first day and first week; then the refusals.
Dim d, j, x, got
d = DateSerial(2024, 1, 31) + TimeSerial(9, 15, 0)
j = DateSerial(2000, 1, 1)
out.Print DateAdd("yyyy", 1, d) & " | " & DateAdd("q", 1, d) & " | " & DateAdd("m", 1, d) & " | " & DateAdd("y", 1, d) & " | " & DateAdd("d", -31, d)
out.Print DateAdd("w", 2, d) & " | " & DateAdd("ww", 1, d) & " | " & DateAdd("h", 15, d) & " | " & DateAdd("n", -16, d) & " | " & DateAdd("s", 30, d)
out.Print DateAdd("yYyy", 1, j) & " " & DateAdd("M", -1, j) & " " & DateAdd("y", -1, j) & " " & DateAdd("ww", -1, j) & " " & DateAdd("d", 1, DateSerial(2000, 12, 31)) & " " & DateAdd("d", "2", "28/02/2023") & " " & DateAdd("h", 25, DateSerial(2024, 12, 31) + TimeSerial(23, 0, 0))
out.Print DateAdd("yyyy", 1, DateSerial(2024, 2, 29) + TimeSerial(9, 15, 0)) & " | " & DateAdd("n", -90, TimeSerial(0, 30, 0) + j) & " | " & DateAdd("s", 61, j + TimeSerial(0, 0, 59)) & " | " & DateAdd("d", 1, -1.25) & " | " & TypeName(DateAdd("m", 1, Null))
out.Print DateDiff("d", #1/1/2024 11:00:00 PM#, #1/2/2024 1:00:00 AM#) & " " & DateDiff("d", #1/2/2024 1:00:00 AM#, #1/1/2024 11:00:00 PM#) & " " & DateDiff("y", DateSerial(2024, 1, 1), DateSerial(2024, 12, 31)) & " " & DateDiff("h", #1/1/2024 10:59:00#, #1/1/2024 11:00:00#) & " " & DateDiff("n", #1/1/2024 10:59:59#, #1/1/2024 11:00:00#)
out.Print DateDiff("n", DateSerial(2024, 1, 1), DateSerial(2024, 1, 2)) & " " & DateDiff("s", TimeSerial(8, 0, 0), TimeSerial(8, 1, 1)) & " " & DateDiff("s", -1 - 23 / 24, 1 / 24) & " " & DateDiff("yyyy", DateSerial(2023, 12, 31), DateSerial(2024, 1, 1))
out.Print DateDiff("m", DateSerial(2023, 11, 30), DateSerial(2024, 2, 1)) & " " & DateDiff("m", DateSerial(2024, 1, 31), DateSerial(2024, 2, 1)) & " " & DateDiff("m", DateSerial(2024, 3, 1), DateSerial(2023, 1, 31)) & " " & DateDiff("q", DateSerial(2024, 1, 1), DateSerial(2024, 12, 31)) & " " & DateDiff("q", DateSerial(2024, 3, 31), DateSerial(2024, 4, 1))
out.Print DateDiff("w", DateSerial(2024, 1, 1), DateSerial(2024, 1, 14)) & " " & DateDiff("w", DateSerial(2024, 1, 1), DateSerial(2024, 1, 15)) & " " & DateDiff("ww", DateSerial(2024, 1, 6), DateSerial(2024, 1, 7)) & " " & DateDiff("ww", DateSerial(2024, 1, 6), DateSerial(2024, 1, 7), vbMonday) & " " & DateDiff("ww", DateSerial(2024, 1, 7), DateSerial(2024, 1, 8), vbMonday)
out.Print TypeName(DateDiff("d", Date, Date)) & " " & TypeName(DateDiff("d", Null, Date))
out.Print DatePart("yyyy", d) & " " & DatePart("q", d) & " " & DatePart("q", DateSerial(2024, 8, 15)) & " " & DatePart("m", d) & " " & DatePart("y", d) & " " & DatePart("y", DateSerial(2024, 3, 1)) & " " & TypeName(DatePart("d", d)) & " " & TypeName(DatePart("d", Null))
out.Print DatePart("d", d) & " " & DatePart("w", d) & " " & DatePart("w", j) & " " & DatePart("w", j, vbMonday) & " " & DatePart("h", d) & " " & DatePart("n", d) & " " & DatePart("s", d + TimeSerial(0, 0, 15))
out.Print DatePart("ww", DateSerial(2024, 1, 1)) & " " & DatePart("ww", DateSerial(2024, 1, 7)) & " " & DatePart("ww", DateSerial(2024, 12, 31)) & " " & DatePart("ww", DateSerial(2021, 1, 1))
' 1 January 2021 is a Friday.
out.Print DatePart("ww", DateSerial(2021, 1, 4), vbMonday, vbFirstFourDays) & " " & DatePart("ww", DateSerial(2021, 1, 3), vbMonday, vbFirstFourDays) & " " & DatePart("ww", DateSerial(2021, 1, 3), 0, 0) & " " & DatePart("ww", DateSerial(2021, 1, 1), 1, vbFirstFullWeek) & " " & DatePart("ww", DateSerial(2021, 1, 3), 1, vbFirstFullWeek)
Sub Check()  ' notes the error number of the statement before (0: none) and clears it
    got = got & " " & Err.Number
    Err.Clear
End Sub
On Error Resume Next
x = DateAdd("k", 1, j): Check
x = DateAdd(Null, 1, j): Check
x = DateAdd("q", Null, j): Check
x = DateAdd("yyyy", 1, DateSerial(9999, 12, 31)): Check
x = DateAdd("d", -1, DateSerial(100, 1, 1)): Check
out.Print "DateAdd:" & got: got = ""
x = DateDiff("x", j, j): Check
x = DateDiff(Null, j, j): Check
x = DateDiff("d", j, j, 8): Check
x = DateDiff("d", j, j, 1, 4): Check
x = DateDiff("d", "abc", j): Check
out.Print "DateDiff:" & got: got = ""
x = DatePart("x", j): Check
x = DatePart(Null, j): Check
x = DatePart("w", j, 8): Check
x = DatePart("ww", j, 1, 4): Check
out.Print "DatePart:" & got
' EXPECT:
' 31/01/2025 09:15:00 | 30/04/2024 09:15:00 | 29/02/2024 09:15:00 | 01/02/2024 09:15:00 | 31/12/2023 09:15:00
' 02/02/2024 09:15:00 | 07/02/2024 09:15:00 | 01/02/2024 00:15:00 | 31/01/2024 08:59:00 | 31/01/2024 09:15:30
' 01/01/2001 01/12/1999 31/12/1999 25/12/1999 01/01/2001 02/03/2023 02/01/2025
' 28/02/2025 09:15:00 | 31/12/1999 23:00:00 | 01/01/2000 00:02:00 | 06:00:00 | Null
' 1 -1 365 1 1
' 1440 61 7200 1
' 3 1 -14 3 1
' 1 2 1 0 1
' Long Null
' 2024 1 3 1 31 61 Integer Null
' 31 4 7 6 9 15 15
' 1 2 53 1
' 1 53 53 52 1
' DateAdd: 5 94 94 5 5
' DateDiff: 5 94 5 5 13
' DatePart: 5 94 5 5
