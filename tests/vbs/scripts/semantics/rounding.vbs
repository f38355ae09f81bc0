' Integer division, Mod and array indexes round their operands half to even first.
out.Print 2.5 \ 1 & " " & 3.5 \ 1
out.Print 4.5 Mod 10 & " " & 5.5 Mod 10
Dim a(3)
a(1.5) = "index 1.5 is 2"
out.Print a(2)
' EXPECT:
' 2 4
' 4 6
' index 1.5 is 2
