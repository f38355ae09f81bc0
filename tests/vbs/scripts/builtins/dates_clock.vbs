' Now, Date and Time come from the host's clock (15/03/2024 10:30:45, a Friday); parts of a date or
' of a number or text read as one; weekdays from Sunday unless told (0: the Italian Monday); names.
Dim d, e, x, got
d = Now
e = DateSerial(2024, 12, 31) + TimeSerial(8, 5, 9)
out.Print d & " | " & Date & " | " & Time & " | " & TypeName(Date) & " " & TypeName(Time) & " " & TypeName(d)
out.Print Year(d) & "-" & Month(d) & "-" & Day(d) & " " & Hour(d) & ":" & Minute(d) & ":" & Second(d) & " " & TypeName(Year(d))
out.Print Year(e) & " " & Month(e) & " " & Day(e) & " " & Hour(e) & " " & Minute(e) & " " & Second(e) & " " & TypeName(Second(e))
out.Print Year(2) & " " & Day(2) & " " & Hour(2.75) & " " & Minute(2.02083) & " " & Month("01/08/2024") & " " & Day(Empty) & " " & TypeName(Year(Null))
e = DateSerial(2000, 1, 1)
out.Print Weekday(d) & " " & Weekday(d, vbMonday) & " " & Weekday(d, vbUseSystemDayOfWeek) & " " & Weekday(e) & " " & Weekday(e, 2) & " " & Weekday(e, 4) & " " & Weekday(e, 7) & " " & Weekday(e, 0) & " " & TypeName(Weekday(Null, 1))
out.Print WeekdayName(Weekday(d)) & " " & WeekdayName(1) & " " & WeekdayName(2) & " " & WeekdayName(1, True) & " " & WeekdayName(1, 10, 2) & " " & WeekdayName(1, True, 2.5) & " " & WeekdayName(7, False, 7) & " " & WeekdayName(1, , 0)
out.Print MonthName(Month(d)) & " " & MonthName(1) & " " & MonthName(12, True) & " " & MonthName(8, 0)
Sub Check()  ' notes the error number of the statement before (0: none) and clears it
    got = got & " " & Err.Number
    Err.Clear
End Sub
On Error Resume Next
x = Year("abc"): Check
x = Year("3000000"): Check
out.Print "Year:" & got: got = ""
x = Weekday(e, 10): Check
x = Weekday(e, -1): Check
x = Weekday(Null, -1): Check
x = Weekday(e, Null): Check
x = Weekday(Null, "a"): Check
out.Print "Weekday:" & got: got = ""
x = WeekdayName(8): Check
x = WeekdayName(0): Check
x = WeekdayName(Null): Check
x = MonthName(13): Check
x = MonthName(Null): Check
x = MonthName(1, Null): Check
out.Print "WeekdayName MonthName:" & got
' EXPECT:
' 15/03/2024 10:30:45 | 15/03/2024 | 10:30:45 | Date Date Date
' 2024-3-15 10:30:45 Integer
' 2024 12 31 8 5 9 Integer
' 1900 1 18 30 8 30 Null
' 6 5 5 7 6 4 1 6 Null
' venerdì domenica lunedì dom lun lun venerdì lunedì
' marzo gennaio dic agosto
' Year: 13 6
' Weekday: 5 5 5 94 13
' WeekdayName MonthName: 5 5 94 5 94 94
