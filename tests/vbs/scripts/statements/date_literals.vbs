d = #12/31/2024#
out.Print d
out.Print TypeName(d)
out.Print #2024-03-15 10:30#
out.Print #1/2/2024# < #2/1/2024#
out.Print #14:05:09#
out.Print #3/15/2024 2:30:00 PM#
out.Print #31/12/2024#
' EXPECT:
' 31/12/2024
' Date
' 15/03/2024 10:30:00
' True
' 14:05:09
' 15/03/2024 14:30:00
' 31/12/2024
