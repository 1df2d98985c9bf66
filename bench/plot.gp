# Reload time against the number of helper processes.
set terminal png size 800,500
set output outfile
set title "Times against helper processes (3 windows each), under Wine"
set xlabel "helper processes (N)"
set ylabel "milliseconds (median)"
set key top left
set grid
set datafile missing "?"
plot datafile using 1:2 with linespoints title "Vorlane reload", \
     datafile using 1:3 with linespoints title "floor (required system calls)", \
     datafile using 1:4 with linespoints title "Vorlane start to full list", \
     datafile using 1:5 with linespoints title "Wine taskmgr start to full list", \
     datafile using 1:6 with linespoints title "Vorlane selecting an entry", \
     datafile using 1:7 with linespoints title "Vorlane tab change"
