 Command = 1 
mode = $3
state=0x2
command=257
noequals
