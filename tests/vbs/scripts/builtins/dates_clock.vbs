' Now, Date and Time come from the host's clock (15/03/2024 10:30:45, a Friday); parts of a date.
Dim d
d = Now
out.Print d
out.Print Date
out.Print Time
out.Print TypeName(Date) & " " & TypeName(Time)
out.Print Year(d) & "-" & Month(d) & "-" & Day(d) & " " & Hour(d) & ":" & Minute(d) & ":" & Second(d)
out.Print TypeName(Year(d))
out.Print Weekday(d) & " " & Weekday(d, vbMonday) & " " & Weekday(d, vbUseSystemDayOfWeek)
out.Print WeekdayName(Weekday(d))
out.Print WeekdayName(1, True) & " " & WeekdayName(1, False, vbMonday)
out.Print MonthName(Month(d)) & " " & MonthName(12, True)
out.Print Year(Null)
out.Print Month("01/08/2024")
' EXPECT:
' 15/03/2024 10:30:45
' 15/03/2024
' 10:30:45
' Date Date
' 2024-3-15 10:30:45
' Integer
' 6 5 5
' venerdì
' dom lunedì
' marzo dic
' <Null>
' 8
