' DateAdd, DateDiff and DatePart with every interval.
Dim d
d = DateSerial(2024, 1, 31) + TimeSerial(9, 15, 0)
out.Print DateAdd("yyyy", 1, d)
out.Print DateAdd("q", 1, d)
out.Print DateAdd("m", 1, d)
out.Print DateAdd("y", 1, d)
out.Print DateAdd("d", -31, d)
out.Print DateAdd("w", 2, d)
out.Print DateAdd("ww", 1, d)
out.Print DateAdd("h", 15, d)
out.Print DateAdd("n", -16, d)
out.Print DateAdd("s", 30, d)
out.Print DateAdd("m", 1, Null)
out.Print DateDiff("d", #1/1/2024 11:00:00 PM#, #1/2/2024 1:00:00 AM#)
out.Print DateDiff("h", #1/1/2024 10:59:00#, #1/1/2024 11:00:00#)
out.Print DateDiff("n", DateSerial(2024, 1, 1), DateSerial(2024, 1, 2))
out.Print DateDiff("s", TimeSerial(8, 0, 0), TimeSerial(8, 1, 1))
out.Print DateDiff("m", DateSerial(2023, 11, 30), DateSerial(2024, 2, 1))
out.Print DateDiff("yyyy", DateSerial(2023, 12, 31), DateSerial(2024, 1, 1))
out.Print DateDiff("q", DateSerial(2024, 1, 1), DateSerial(2024, 12, 31))
out.Print DateDiff("w", DateSerial(2024, 1, 1), DateSerial(2024, 1, 15))
out.Print DateDiff("ww", DateSerial(2024, 1, 6), DateSerial(2024, 1, 7))
out.Print DateDiff("ww", DateSerial(2024, 1, 6), DateSerial(2024, 1, 7), vbMonday)
out.Print TypeName(DateDiff("d", Date, Date))
out.Print DatePart("yyyy", d) & " " & DatePart("q", d) & " " & DatePart("m", d) & " " & DatePart("y", d)
out.Print DatePart("d", d) & " " & DatePart("w", d) & " " & DatePart("h", d) & " " & DatePart("n", d) & " " & DatePart("s", d)
out.Print DatePart("ww", DateSerial(2024, 1, 7)) & " " & DatePart("ww", DateSerial(2021, 1, 3), vbMonday, vbFirstFourDays)
' EXPECT:
' 31/01/2025 09:15:00
' 30/04/2024 09:15:00
' 29/02/2024 09:15:00
' 01/02/2024 09:15:00
' 31/12/2023 09:15:00
' 02/02/2024 09:15:00
' 07/02/2024 09:15:00
' 01/02/2024 00:15:00
' 31/01/2024 08:59:00
' 31/01/2024 09:15:30
' <Null>
' 1
' 1
' 1440
' 61
' 3
' 1
' 3
' 2
' 1
' 0
' Long
' 2024 1 1 31
' 31 4 9 15 0
' 2 53
